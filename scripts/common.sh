# Shared by scripts/run and scripts/test: configure and build one build folder.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

quiet_qt_runtime() {
  if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "${XDG_RUNTIME_DIR}" ]; then
    export XDG_RUNTIME_DIR="${TMPDIR:-/tmp}/torvane-runtime-$(id -u)"
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 0700 "$XDG_RUNTIME_DIR"
  fi
}

build_in() { # build folder, extra cmake arguments...
  local dir="$1"; shift
  cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" --parallel "$(nproc)"
}
