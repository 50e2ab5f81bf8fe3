# Lays out runnable installations from the build output:
#   DEST/program          the executable with every library beside it
#   DEST/program-minimal  the same with the core that has only two entry points
#   DEST/shared/ide0      the shared data folder
foreach(dir program program-minimal shared/ide0)
  file(MAKE_DIRECTORY ${DEST}/${dir})
endforeach()
foreach(file KantrelOvrin.exe interface.dll emuReg.dll kntLib.dll kntVX.dll knt.dll)
  file(COPY ${BIN}/${file} DESTINATION ${DEST}/program)
  file(COPY ${BIN}/${file} DESTINATION ${DEST}/program-minimal)
endforeach()
file(COPY ${BIN}/minimal/knt.dll DESTINATION ${DEST}/program-minimal)
