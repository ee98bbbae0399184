# The Linux program is built with the hardening that Debian builds its own
# packages with (dpkg-buildflags, hardening=+all): stack protector and
# stack-clash protection, fortified C library calls, control-flow
# protection where the processor has it, and read-only relocations bound at
# start-up. Debian's compiler makes position-independent executables by
# itself.
include(CheckCXXCompilerFlag)

add_compile_options(-fstack-protector-strong -fstack-clash-protection -Wformat -Werror=format-security)
check_cxx_compiler_flag(-fcf-protection TALLOWICK_HAVE_CF_PROTECTION)
if(TALLOWICK_HAVE_CF_PROTECTION)
    add_compile_options(-fcf-protection)
endif()
# Fortification needs the optimiser; a Debug build has none.
add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
add_link_options(LINKER:-z,relro LINKER:-z,now)
