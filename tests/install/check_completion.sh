#!/usr/bin/env bash
# The bash completion of ccp offers the built program's commands, options, port names and
# setting names, wherever options stand on the line.
#   check_completion.sh <folder holding ccp> <completion script>
set -euo pipefail
PATH="$1:$PATH"
# shellcheck source=/dev/null
. "$2"

expect() {
  COMP_LINE="$1"
  COMP_POINT=${#1}
  _ccp || true
  [ "${COMPREPLY[*]}" = "$2" ] || { echo "'$1': offered '${COMPREPLY[*]}', not '$2'"; exit 1; }
}
expect "ccp " "show diff set read write verify test ports register fleet"
expect "ccp --register x.sqlite register " "find list export import release claims conflicts resolve init status"
expect "ccp register release 2004017 --n" "--note"
expect "ccp ver" "verify"
expect "ccp fleet " "check write status export swap"
expect "ccp fleet check ward.csv --t" "--template"
expect "ccp write pager.eep --ba" "--backup --batch"
expect "ccp --lpt1 0x378 write pager.eep --port s" "simulator"
expect "ccp --lpt2 0x278 set pager.eep contrast=40 msgtype" "msgtype1= msgtype2= msgtype3= msgtype4= msgtype5= msgtype6="
expect "ccp set pager.eep -o " ""
echo "completion offers commands, options, ports and setting names"
