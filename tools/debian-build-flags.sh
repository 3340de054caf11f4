# Sourced by the scripts that build as Debian's own packages are built: debian_build_flags holds
# CMake's compiler and linker flags from dpkg-buildflags, hardening among them (stack protector,
# fortified calls, read-only relocations bound at start), for the architecture in DEB_HOST_ARCH
# (default: the build machine's own).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# The optimisation level is Debian's too (-O2): CMake's Release adds only NDEBUG, not its -O3.
debian_build_flags=(
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
)
