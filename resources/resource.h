// Resource numbers of the host's own resources.
#pragma once

#define IDI_KANTREL 107
#define IDR_ACCELERATORS 109
#define IDM_TIME_MODE 33041
