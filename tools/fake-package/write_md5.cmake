# cmake -DIN=<file> -DOUT=<file> -P write_md5.cmake: writes IN's MD5 (32
# lower-case hex digits) to OUT, so tests can serve the fake package under
# the URL convention that carries the package's MD5.
file(MD5 "${IN}" digest)
file(WRITE "${OUT}" "${digest}")
