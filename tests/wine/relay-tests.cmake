# The calls that the programs make for Windows' sake, recorded under Wine with
# its relay trace and checked for their order (relay_order.py): gfxsetup's
# flush of each new settings file before it replaces the old one, cdlaunch's
# critical-error boxes off around each open of the CD marker. Both set the
# prefix's relay list for their run, so they never run beside each other.
if(NOT WIN32)
  set(relay_order ${CMAKE_CURRENT_LIST_DIR}/relay_order.py)
  if(VELMIRE_WIN32_DIR)
    add_test(NAME gfxsetup.save_order
             COMMAND ${VELMIRE_PYTHON3} ${relay_order} save ${VELMIRE_WINE_ENV}
                     ${CMAKE_BINARY_DIR}/wine-work/gfxsetup.save_order)
    # Four marker opens: the recorded F; then D, recorded but empty, E without
    # the marker and G with it.
    add_test(NAME launchers.cd_error_mode
             COMMAND ${VELMIRE_PYTHON3} ${relay_order} cd-search ${VELMIRE_WINE_ENV}
                     ${CMAKE_BINARY_DIR}/wine-work/launchers.cd_error_mode 4
                     "*/CdSearch.*/RecordedDriveFirst:*/CdSearch.*/EmptyAndForeignDiscsPassedOver")
    set_tests_properties(gfxsetup.save_order PROPERTIES RESOURCE_LOCK "desktop;relay_list")
    # The CD tests change the prefix's drives and the installer's key.
    set_tests_properties(launchers.cd_error_mode PROPERTIES
                         RESOURCE_LOCK "desktop;installation_key;relay_list")
    set_tests_properties(gfxsetup.save_order launchers.cd_error_mode PROPERTIES
                         FIXTURES_REQUIRED wine LABELS wine TIMEOUT 600
                         ENVIRONMENT "${VELMIRE_WINE_TEST_ENV}")
  endif()
endif()
