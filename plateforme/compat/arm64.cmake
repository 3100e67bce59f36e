# The game for arm64 (a Raspberry Pi's Debian), cross-built with Debian's
# crossbuild-essential-arm64 in the root of scripts/arm64.sh, whose arm64 SDL
# libraries pkg-config finds through the target's own pkg-config. The programs
# built run under qemu-user, through the kernel's binfmt entry.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(PKG_CONFIG_EXECUTABLE aarch64-linux-gnu-pkg-config CACHE FILEPATH "")
