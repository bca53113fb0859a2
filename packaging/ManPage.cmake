# Makes tolvan-host's manual page from its own help texts, so the two never differ.
# Usage: cmake -DTOOL=path/to/tolvan-host -DVERSION=x.y.z -DOUTPUT=tolvan-host.1.gz -P ManPage.cmake

# A help text as a block of roff that keeps its lines as they are.
function(roff_block text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  # A line that starts with a dot or an apostrophe would be read as a request.
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} ".nf\n${text}.fi\n" PARENT_SCOPE)
endfunction()

function(help_of out)
  execute_process(COMMAND ${TOOL} ${ARGN} --help OUTPUT_VARIABLE text RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "tolvan-host ${ARGN} --help failed")
  endif()
  roff_block("${text}" block)
  set(${out} "${block}" PARENT_SCOPE)
endfunction()

help_of(overview)
set(page ".TH TOLVAN\\-HOST 1 \"\" \"tolvan-host ${VERSION}\" \"User Commands\"
.SH NAME
tolvan\\-host \\- offline host of the KR [Tolvan] equaliser plug-in
.SH SYNOPSIS
.B tolvan\\-host
.I COMMAND
.RI [ ARGUMENTS ]
.SH DESCRIPTION
tolvan\\-host loads the plug-in as a host does and processes sound files through it,
saves and shows its program and bank files, draws pictures of its editor and makes test
signals.
.PP
${overview}.SH COMMANDS
")
foreach(command info process preset snapshot generate)
  help_of(text ${command})
  string(APPEND page ".SS ${command}\n.PP\n${text}")
endforeach()
string(APPEND page ".SH EXIT STATUS
0 on success, 1 when a command fails (the message on standard error names the file and
the cause), 2 for a mistake on the command line.
.SH COPYRIGHT
tolvan\\-host and the plug-in are free software, licensed under the GNU General Public
License, version 3 or any later version.
")
file(WRITE ${OUTPUT}.tmp "${page}")
execute_process(COMMAND gzip -n -9 -c ${OUTPUT}.tmp OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE status)
file(REMOVE ${OUTPUT}.tmp)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip failed")
endif()
