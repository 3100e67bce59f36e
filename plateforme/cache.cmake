# Where the scripts keep what they build once from Debian's sources, outside the clone:
# $GAVREMO_CACHE, by default /var/cache/gavremo.
if(DEFINED ENV{GAVREMO_CACHE})
  set(GAVREMO_CACHE $ENV{GAVREMO_CACHE})
else()
  set(GAVREMO_CACHE /var/cache/gavremo)
endif()
