# Writes the page's service worker (PAGE_DIR/sw.js from TEMPLATE): its cache is named
# after the contents of the page's other files, which it lists.
#   cmake -DPAGE_DIR=... -DTEMPLATE=... -DFILES=a,b,... -P service_worker.cmake
string(REPLACE "," ";" FILES "${FILES}")
set(digests "")
set(quoted "'./'")
foreach(file IN LISTS FILES)
    file(SHA256 ${PAGE_DIR}/${file} digest)
    string(APPEND digests "${file} ${digest}\n")
    string(APPEND quoted ", '${file}'")
endforeach()
string(SHA256 SORVEL_PAGE_HASH "${digests}")
string(SUBSTRING ${SORVEL_PAGE_HASH} 0 16 SORVEL_PAGE_HASH)
set(SORVEL_PAGE_FILES "${quoted}")
configure_file(${TEMPLATE} ${PAGE_DIR}/sw.js @ONLY)
