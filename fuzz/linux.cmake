# The HID report descriptor parser against arbitrary bytes.
fu_add_fuzzer(fuzz_hid_report_descriptor
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_hid_report_descriptor.cpp
    LIBS armillon_transport_linux)
