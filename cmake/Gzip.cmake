# hostvane_gzip(<input> <output>): compresses at configure time, as Debian wants its manual
# pages and changelogs: best compression, and no name or time stamp in the header, so that the
# same sources give the same bytes.
include_guard(GLOBAL)
find_program(HOSTVANE_GZIP gzip REQUIRED)

function(hostvane_gzip input output)
    execute_process(COMMAND ${HOSTVANE_GZIP} -9nc INPUT_FILE ${input} OUTPUT_FILE ${output}
                    COMMAND_ERROR_IS_FATAL ANY)
endfunction()
