# The top-level error display lets an error unwind through Qt's event
# delivery, which leaves Qt's own temporaries behind (named in lsan.supp). Qt
# has no frame pointers, so the leak reports need the slow unwinder to show
# the Qt frames the suppressions match.
if(KV_SANITIZE AND TARGET aplikacja_test)
  set_tests_properties(aplikacja_test PROPERTIES ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:fast_unwind_on_malloc=0;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0:fast_unwind_on_malloc=0")
endif()
