# Lays out the installed tree in STAGE: Vellora.exe, res\, Update\VLRUpdate.exe
# with its VLR.ini, Banner\VLRBanner.ini, and the empty Log\ and Key\.
#   cmake -DSTAGE=... -DVELLORA=... -DRES=... -DVLRUPDATE=... -DSOURCE=... -P stage.cmake
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/Update ${STAGE}/Banner ${STAGE}/Log ${STAGE}/Key)
file(COPY ${VELLORA} DESTINATION ${STAGE})
if(EXISTS ${RES})
  file(COPY ${RES} DESTINATION ${STAGE})
else()
  file(MAKE_DIRECTORY ${STAGE}/res)
endif()
file(COPY ${VLRUPDATE} DESTINATION ${STAGE}/Update)
file(COPY ${SOURCE}/VLR.ini DESTINATION ${STAGE}/Update)
file(COPY ${SOURCE}/VLRBanner.ini DESTINATION ${STAGE}/Banner)
