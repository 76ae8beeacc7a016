# Arbitrary device replies through the device library's framing, protocol and decoders.
fu_add_fuzzer(fuzz_device_protocol
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/device/ProtocolFuzzer.cpp
    LIBS armillon_protocol armillon_transport_virtual armillon_records)
