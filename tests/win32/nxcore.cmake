# nxcore.dll under Wine: its object from C++ and from VBScript clients, and its README example.
# Included from tests/win32/CMakeLists.txt; paths are relative to this file.
if(WIN32 AND TARGET nxcore AND TARGET nxvat)
  set(nxcore_tests_dir ${CMAKE_CURRENT_LIST_DIR})

  # The object through its vtable and IDispatch, loaded from the file without registration.
  add_executable(nxcore_tests ${nxcore_tests_dir}/nxcore_engine_test.cpp)
  target_link_libraries(nxcore_tests PRIVATE ole32 oleaut32 uuid psapi GTest::gtest_main)
  target_include_directories(nxcore_tests PRIVATE
    $<TARGET_PROPERTY:nxcore,BINARY_DIR>/generated ${CMAKE_SOURCE_DIR})
  target_compile_definitions(nxcore_tests PRIVATE UNICODE _UNICODE NOMINMAX
    NX_CORE_PATH="Z:$<TARGET_FILE:nxcore>")
  add_dependencies(nxcore_tests nxcore)
  nx_warnings(nxcore_tests)
  gtest_discover_tests(nxcore_tests TEST_PREFIX nxcore. DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT 300)

  # Registration, every member from a script, and a few thousand numbers against nxvat.
  add_test(NAME nxcore.script_client
           COMMAND bash ${nxcore_tests_dir}/nxcore_script_test.sh $<TARGET_FILE:nxcore>
                   $<TARGET_FILE:nxvat> ${CMAKE_CURRENT_BINARY_DIR}/nxcore_script
                   ${nxcore_tests_dir}/nxcore_test.vbs)
  set_tests_properties(nxcore.script_client PROPERTIES RESOURCE_LOCK wine_registry TIMEOUT 300)

  # The README's example prints what the README says it prints.
  add_test(NAME nxcore.example
           COMMAND bash ${nxcore_tests_dir}/nxcore_script_test.sh $<TARGET_FILE:nxcore>
                   $<TARGET_FILE:nxvat> ${CMAKE_CURRENT_BINARY_DIR}/nxcore_example
                   ${nxcore_tests_dir}/nxcore_example.vbs
                   ${nxcore_tests_dir}/nxcore_example.expected)
  set_tests_properties(nxcore.example PROPERTIES RESOURCE_LOCK wine_registry TIMEOUT 300)
endif()
