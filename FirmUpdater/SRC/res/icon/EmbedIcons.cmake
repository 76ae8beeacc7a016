# cmake -DOUTPUT=<file.cpp> -DSIZES=16,32,... -DSOURCE_DIR=<dir> -P EmbedIcons.cmake
# Writes the PNG files firmupdater-<size>.png as byte arrays for ProgramIcon.h.
string(REPLACE "," ";" SIZES "${SIZES}")
set(arrays "")
set(entries "")
foreach(size IN LISTS SIZES)
    file(READ "${SOURCE_DIR}/firmupdater-${size}.png" hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n    "
           bytes "${bytes}")
    string(APPEND arrays "constexpr unsigned char kPng${size}[] = {\n    ${bytes}\n};\n")
    string(APPEND entries "    {${size}, kPng${size}},\n")
endforeach()
file(WRITE "${OUTPUT}.tmp" "// Generated from the PNG files of res/icon; do not edit.\n"
    "#include \"ProgramIcon.h\"\n\nnamespace res {\nnamespace {\n\n${arrays}\n"
    "constexpr IconImage kImages[] = {\n${entries}};\n\n}  // namespace\n\n"
    "std::span<const IconImage> ProgramIconImages() {\n    return kImages;\n}\n\n"
    "}  // namespace res\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
