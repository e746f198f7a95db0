# A manual page (section 1) from a program's --help text, for the Debian package.
#   awk -v name=PROGRAM -v summary=TEXT -v footer=TEXT -v date=YYYY-MM-DD -v docs=FOLDER \
#       -f help_to_man.awk HELP_TEXT
# The usage lines become the synopsis ("usage: prog ARGS", or "Usage:" with the forms indented
# below it); each option line ("  --name ARGS   what it does", continued further down at the
# description's column) a tagged paragraph, nested options (deeper) indented; other indented
# lines (tables) are kept as they are; lines at the margin run on as text; blank lines part
# paragraphs.

function Escape(s) {
  gsub(/\\/, "\\e", s)
  if (s ~ /^[.']/) s = "\\&" s
  return s
}
function Dashes(s) {
  s = Escape(s)
  gsub(/-/, "\\-", s)
  return s
}
function Indent(s) {
  match(s, /^ */)
  return RLENGTH
}
function Synopsis(s, word) {
  word = s
  sub(/ .*/, "", word)
  sub(/^[^ ]* */, "", s)
  print ".B " word
  if (s != "") print Dashes(s)
  print ".br"
}
function EndOptions() {
  if (nested) print ".RE"
  nested = 0
  optionColumn = 0
}
function EndTable() {
  if (table) print ".fi"
  table = 0
}
function Paragraph() {
  if (started) print ".PP"
  started = 1
}

BEGIN {
  printf ".TH %s 1 \"%s\" \"%s\" \"User Commands\"\n", toupper(name), date, footer
  print ".nh"
  print ".ad l"
  print ".SH NAME"
  print name " \\- " summary
  print ".SH SYNOPSIS"
}

NR == 1 && tolower($0) ~ /^usage:/ {
  line = substr($0, 7)
  sub(/^ +/, "", line)
  if (line != "") {
    Synopsis(line)
  } else {
    usageBlock = 1
  }
  next
}
usageBlock && /^ +[^ ]/ {
  line = $0
  sub(/^ +/, "", line)
  Synopsis(line)
  next
}
usageBlock && /^$/ { next }
!body {
  usageBlock = 0
  body = 1
  print (/^ +-/ ? ".SH OPTIONS" : ".SH DESCRIPTION")
}

/^$/ {
  EndTable()
  EndOptions()
  pending = 1
  next
}
# An option and what it does.
/^ +-[^ ]/ {
  EndTable()
  indent = Indent($0)
  if (!optionColumn) {
    if (pending || !started) Paragraph()
    optionIndent = indent
  }
  if (indent > optionIndent && !nested) {
    print ".RS 4"
    nested = 1
  } else if (indent == optionIndent && nested) {
    print ".RE"
    nested = 0
  }
  line = substr($0, indent + 1)
  # The descriptions start in one column: where the option above has its, if this line has a
  # word there, else after the first run of spaces.
  if (optionColumn && substr($0, optionColumn, 1) == " " &&
      substr($0, optionColumn + 1, 1) ~ /[^ ]/ && optionColumn > indent + 2) {
    option = substr($0, indent + 1, optionColumn - indent)
    sub(/ +$/, "", option)
    description = substr($0, optionColumn + 1)
  } else if (match(line, /  +/)) {
    option = substr(line, 1, RSTART - 1)
    description = substr(line, RSTART + RLENGTH)
    optionColumn = indent + RSTART + RLENGTH - 1
  } else {
    option = line
    description = ""
    optionColumn = indent + length(line) + 2
  }
  word = option
  sub(/ .*/, "", word)
  rest = substr(option, length(word) + 1)
  print ".TP"
  print "\\fB" Dashes(word) "\\fR" Dashes(rest)
  if (description != "") print Escape(description)
  pending = 0
  next
}
# The description of the option above, continued.
optionColumn && /^ +[^ ]/ && Indent($0) >= optionColumn - 2 {
  line = $0
  sub(/^ +/, "", line)
  print Escape(line)
  next
}
# A table: kept as it is.
/^ / {
  EndOptions()
  if (!table) {
    Paragraph()
    print ".nf"
    table = 1
  }
  print Escape($0)
  pending = 0
  next
}
{
  EndTable()
  newParagraph = optionColumn || pending || !started
  EndOptions()
  if (newParagraph) Paragraph()
  print Escape($0)
  pending = 0
}

END {
  EndTable()
  EndOptions()
  print ".SH SEE ALSO"
  print "The README and the filter's help text in"
  print ".IR " docs "."
}
