# Helpers shared by the scripts in this folder (sourced, not run).

# ryn_require_packages PKG... installs the Debian packages that are missing,
# and does nothing (no apt-get update) when all are there.
ryn_require_packages() {
  local missing=() pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  ((${#missing[@]})) || return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=()
  if ((EUID != 0)); then
    command -v sudo >/dev/null || { echo "not root and no sudo: install ${missing[*]} first" >&2; return 1; }
    sudo=(sudo)
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -q </dev/null
  "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
}

# Compiler caching: CMake picks these up when a build tree is first configured.
ryn_use_ccache() {
  if command -v ccache >/dev/null; then
    export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
  fi
}

ryn_banner() {
  printf '\n==============================================================\n'
  printf '== %s\n' "$*"
  printf '==============================================================\n'
}
