if(TOLVANE_SANITIZE OR TOLVANE_FUZZ)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(TOLVANE_FUZZ)
  # Coverage for the whole code under test; only the fuzz targets get the fuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
