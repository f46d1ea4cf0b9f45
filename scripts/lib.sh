# Helpers shared by the scripts in this folder (sourced, not run).

# ryn_as_root COMMAND...: runs it as root (through sudo when not root).
ryn_as_root() {
  if ((EUID == 0)); then
    "$@"
  elif command -v sudo >/dev/null; then
    sudo "$@"
  else
    echo "not root and no sudo: run '$*' first" >&2
    return 1
  fi
}

# ryn_enable_architecture ARCH lets dpkg install packages of ARCH (i386 for
# 32-bit wine); the next ryn_require_packages updates the package lists.
ryn_enable_architecture() {
  dpkg --print-foreign-architectures | grep -qx "$1" && return 0
  echo "Adding the package architecture $1"
  ryn_as_root dpkg --add-architecture "$1"
}

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
  export DEBIAN_FRONTEND=noninteractive
  ryn_as_root apt-get update -q </dev/null || return 1
  ryn_as_root apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
}

# ryn_npm_ci_page installs the trend page's npm packages (uPlot, which the
# build inlines, and the browser driver of its tests) as package-lock.json pins
# them; the build refuses to configure without them. Skipped while the
# installed tree is newer than the lock file.
ryn_npm_ci_page() {
  local dir=apps/ryn-trend/page
  command -v npm >/dev/null || ryn_require_packages nodejs npm || return 1
  [[ $dir/node_modules/.package-lock.json -nt $dir/package-lock.json ]] && return 0
  echo "Installing the trend page's npm packages (npm ci in $dir)"
  (cd "$dir" && npm ci --no-audit --no-fund --loglevel=error </dev/null)
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
