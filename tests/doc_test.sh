#!/usr/bin/env bash
# doc_test.sh SOURCE_DIR BUILD_DIR
# Runs the command examples of README.md and docs/*.md as a reader would, against a built
# linux64 tree: every ```sh block in order, one shell per file (so a block may use what an
# earlier block of its file set), from the top of a scratch copy of the checkout in which
# build/linux64 is the built tree and build/sample the sample that scripts/main.sh makes.
# A block fails on the first command that fails (set -euo pipefail). A block right after an
# italic line such as "*Windows only:*" is skipped, for the reason that line gives. Commands go
# in ```sh blocks and what is only shown (output, a settings line) in ```text blocks. Last, the
# examples must have written nothing that git would see: outputs belong in out/.
set -euo pipefail
source=$(cd "$1" && pwd) build=$(cd "$2" && pwd)

scratch=$(mktemp -d "${TMPDIR:-/tmp}/doc-test.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
checkout=$scratch/checkout logs=$scratch/logs
mkdir -p "$checkout" "$logs"

# The files git knows, as they are now (edited or new ones too), in a fresh repository.
git -C "$source" ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' file; do [ -e "$source/$file" ] && printf '%s\0' "$file"; done |
  tar -C "$source" --null -T - -cf - | tar -C "$checkout" -xf -
git -C "$checkout" init -q
git -C "$checkout" add -A
before=$(git -C "$checkout" status --porcelain --untracked-files=all)

mkdir -p "$checkout/build"
ln -s "$build" "$checkout/build/linux64"
"$checkout/scripts/make-sample.sh" "$build" "$checkout/build/sample" >"$logs/sample.log" 2>&1 ||
  { echo "making the sample failed:"; cat "$logs/sample.log"; exit 1; }

# One bash script per Markdown file: each block becomes a call of __block (which starts the
# block's log in the checkout's top folder) followed by the block's lines.
ToScript() {
  awk -v file="$1" '
    function quote(s) { gsub(/\x27/, "\x27\\\x27\x27", s); return "\x27" s "\x27" }
    /^```/ && !inside {
      info = substr($0, 4); inside = 1; start = NR
      if (info == "sh") {
        run = (reason == "")
        print (run ? "__block " : "__skip ") quote(file) " " NR " " quote(reason)
      } else {
        run = 0
        if (info == "" || info ~ /^(bash|shell|console|zsh)$/)
          print "__convention " quote(file) " " NR " " quote("a code block with info string \x27" info "\x27")
      }
      next
    }
    /^```/ && inside { inside = 0; reason = ""; next }
    inside { if (run) print; next }
    /^[ \t]+```/ { print "__convention " quote(file) " " NR " \x27an indented code fence\x27" }
    /^\*[^*]+:\*$/ { reason = substr($0, 2, length($0) - 3); next }
    /[^ \t]/ { reason = "" }
    END { if (inside) print "__convention " quote(file) " " start " \x27a code block never closed\x27" }
  ' "$checkout/$1"
}

status=0
for page in README.md $(cd "$checkout" && printf '%s\n' docs/*.md); do
  script=$scratch/$(tr / - <<<"$page").sh
  {
    cat <<'EOF'
set -euo pipefail
exec 3>&1
__block() {
  cd "$__checkout"
  __where="$1 line $2" __log="$__logs/$(tr / - <<<"$1")-$2.log"
  echo "ran: $__where" >&3
  exec >"$__log" 2>&1 </dev/null
}
__skip() { echo "skipped: $1 line $2: $3" >&3; }
__convention() {
  __where=
  echo "FAILED: $1 line $2: $3; commands go in \`\`\`sh blocks, the rest in \`\`\`text," \
       "each fence at the start of its line" >&3
  exit 1
}
trap '__status=$?; [ $__status -eq 0 ] || [ -z "${__where:-}" ] ||
      { echo "FAILED: $__where (exit $__status):" >&3; cat "$__log" >&3; }' EXIT
trap 'echo "doc test: this command failed: $BASH_COMMAND"' ERR
EOF
    ToScript "$page"
  } >"$script"
  __checkout=$checkout __logs=$logs timeout 300 bash "$script" || {
    [ $? -ne 124 ] || echo "FAILED: $page: still running after 5 minutes"
    status=1
  }
done

after=$(git -C "$checkout" status --porcelain --untracked-files=all)
if [ "$after" != "$before" ]; then
  echo "FAILED: the examples changed or left files outside out/ and build/:"
  diff <(echo "$before") <(echo "$after") | grep '^>' || true
  status=1
fi
exit $status
