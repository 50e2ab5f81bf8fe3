// The count of desk child windows; each control class lives in a file of its own.
#include "desk/DeskChildren.h"

int gDeskChildCount;
