#!/usr/bin/env bash
# Makes the prebuilt files that npm pack ships, for this platform, from the
# release tree's runtime targets: the addon in prebuilds/<platform>-<arch>/,
# named by the tags node-gyp-build picks it by, and the simulator's two
# libraries, control addon and syslog mirror in prebuilds-sim/<platform>-<arch>/,
# which no addon loader reads and only the simulator's tools put on the
# library search path. Run by npm pack (prepack), or as npm run prebuild.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

# npm also runs a script named "prebuild" before every "npm run build", as
# its hook: the npm process above, which names itself after its command,
# tells the two apart, and the hook does nothing.
npm_command_line() {
  local pid=$PPID args
  while [ "${pid:-0}" -gt 1 ]; do
    args=$(ps -o args= -p "$pid" 2>/dev/null) || return 0
    case "$args" in npm\ *) echo "$args"; return 0 ;; esac
    pid=$(ps -o ppid= -p "$pid" 2>/dev/null | tr -d ' ')
  done
}
case " $(npm_command_line) " in
  *" build "*) exit 0 ;;
esac
ensure_system_packages "npm run prebuild" "${BUILD_PACKAGES[@]}"
ensure_node_packages --omit=dev
build_runtime >&2

tuple=$(node -p 'process.platform + "-" + process.arch')
libc=$(node -p 'process.report.getReport().header.glibcVersionRuntime ? "glibc" : "musl"')
rm -rf prebuilds prebuilds-sim
mkdir -p "prebuilds/$tuple" "prebuilds-sim/$tuple"
cp build/Release/cifs.node "prebuilds/$tuple/cifs-native.napi.$libc.node"
for file in libtoral.so.0 libcifsmgmtclient.so simctl.node libsyslog_stderr.so; do
  cp "build/Release/sim/$file" "prebuilds-sim/$tuple/"
done

# What the files ask of the machine that loads them: the newest symbol
# versions they import from the C and C++ runtimes.
newest() {
  objdump -T "prebuilds/$tuple"/* "prebuilds-sim/$tuple"/* | grep -F '*UND*' |
    grep -oE "\\b$1_[0-9.]+" | sort -V | tail -n 1
}
echo "prebuilt for $tuple ($libc) in prebuilds/$tuple and prebuilds-sim/$tuple: they need $(newest GLIBC) and $(newest GLIBCXX)" >&2
