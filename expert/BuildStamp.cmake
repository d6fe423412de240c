# Writes BuildStamp.h with the time of this build. Run by the build whenever
# an input of the module changed, so the version record carries the time of
# the build that made the module what it is.
# Inputs: OUTPUT (file to write), CONFIGURATION (module/target/toolchain/type).
string(TIMESTAMP stamp "%Y/%m/%d %H:%M:%S")
file(WRITE "${OUTPUT}.tmp"
    "#pragma once\n"
    "#define KR_BUILD_STAMP \"${stamp}\"\n"
    "#define KR_BUILD_CONFIGURATION \"${CONFIGURATION}\"\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
