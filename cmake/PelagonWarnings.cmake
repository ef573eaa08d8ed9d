# Warnings for every target of the project; errors unless PELAGON_WERROR is off.
add_compile_options(-Wall -Wextra -Wpedantic -Wno-unused-parameter)
if(PELAGON_WERROR)
  add_compile_options(-Werror)
endif()
if(PELAGON_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
