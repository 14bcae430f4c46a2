# Sourced by the scripts: where the project is, and how a script gets the
# Debian packages it needs (through sudo when not root).
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Installs the packages of the arguments that are not installed yet; quick
# when all are there, since it only asks dpkg.
ensure_packages() {
  local missing=() p status
  for p in "$@"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
  done
  [[ ${#missing[@]} -eq 0 ]] && return 0
  echo "installing ${missing[*]}" >&2
  local as_root=()
  [[ $(id -u) -eq 0 ]] || as_root=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update -q >&2
  "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
}

# Configures and builds one of the CMakePresets.json presets. CMake reads the
# presets from the current folder, so this works from the project's, wherever
# the script was started.
build_preset() {
  "$here/scripts/install-deps"
  (cd "$here" && cmake --preset "$1" >/dev/null && cmake --build --preset "$1" --parallel "$(nproc)")
}
