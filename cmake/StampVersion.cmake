# Run as `cmake -DIN=... -DOUT=... -DVERSION=... -P StampVersion.cmake`: copies IN to OUT with
# every %VERSION% replaced (help files use "@" and "$" of their own, so configure_file cannot).
file(READ "${IN}" text)
string(REPLACE "%VERSION%" "${VERSION}" text "${text}")
file(WRITE "${OUT}.tmp" "${text}")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
