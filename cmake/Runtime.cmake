# The silent road (tolvane and Converttlv) carries its own C++ runtime, linked
# in and hidden: loading and relocating the shared one cost more than the whole
# conversion of a small file.  Only plain data (std::string, std::shared_ptr)
# and abstract interfaces cross to a module that uses the shared runtime (the
# window module, through Qt), never an exception.  Sanitizers need the shared
# runtime, whose allocation functions they replace.
function(tolvane_own_runtime target)
  if(NOT WIN32 AND NOT TOLVANE_SANITIZE AND NOT TOLVANE_FUZZ)
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc
      -Wl,--exclude-libs,ALL -Wl,--as-needed)
  endif()
endfunction()
