# Writes FILE's SHA-256 sum to OUT in sha256sum's form ("<hex>  <name>"), so both sha256sum -c
# and a Windows user's certutil -hashfile FILE SHA256 can check it.
#   cmake -DFILE=... -DOUT=... -P sha256.cmake
file(SHA256 ${FILE} sum)
get_filename_component(name ${FILE} NAME)
file(WRITE ${OUT} "${sum}  ${name}\n")
