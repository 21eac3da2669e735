# Debian's hardening flags for the optimised programs we ship (lintian looks for them in the
# package). Sanitizer and fuzz builds keep their own instrumentation; _FORTIFY_SOURCE needs
# optimisation, so Debug builds go without it.
option(DARVEX_HARDEN "Build with fortified functions, stack protector and full RELRO" ON)
if(DARVEX_HARDEN AND NOT DARVEX_SANITIZE AND NOT DARVEX_FUZZ)
    add_compile_options($<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2> -fstack-protector-strong)
    add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
