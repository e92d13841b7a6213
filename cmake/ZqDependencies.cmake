# Libraries from Debian's packages.
find_package(PkgConfig REQUIRED)
find_package(ZLIB REQUIRED)
find_package(OpenSSL REQUIRED)               # libcrypto: AES archive members
find_package(msgpack CONFIG REQUIRED)          # target msgpackc-cxx, header-only
pkg_check_modules(MINIZIP REQUIRED IMPORTED_TARGET minizip)
pkg_check_modules(BOX2D REQUIRED IMPORTED_TARGET box2d)
pkg_check_modules(OIS REQUIRED IMPORTED_TARGET OIS)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2 SDL2_image SDL2_mixer)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)   # every sound file, read in pieces
pkg_check_modules(PUGIXML REQUIRED IMPORTED_TARGET pugixml)
pkg_check_modules(JPEG REQUIRED IMPORTED_TARGET libjpeg)   # SDL2_image's JPEG decoder: sizes before decoding
pkg_check_modules(LAME REQUIRED IMPORTED_TARGET lame)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
find_package(GLEW REQUIRED)
find_package(OpenGL REQUIRED COMPONENTS OpenGL EGL GLX)   # EGL, GLX: the real drawable size
pkg_check_modules(XLIB REQUIRED IMPORTED_TARGET x11)   # whether an X window manager runs
