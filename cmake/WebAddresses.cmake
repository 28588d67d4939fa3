# The product's web pages, opened in the user's browser by the Website and Help
# buttons, "Check for Updates" and the About window's link. Kept here so a build
# can point them elsewhere.
set(BRIXEL_WEBSITE_URL "https://www.brixel.example/" CACHE STRING "Product web site")
set(BRIXEL_HELP_URL "https://www.brixel.example/help/bridge-and-monitor" CACHE STRING "Help page")
set(BRIXEL_PRODUCT_URL "https://www.brixel.example/products/bridge-and-monitor" CACHE STRING "Product page")
target_compile_definitions(brixel_core PUBLIC
  BRIXEL_WEBSITE_URL="${BRIXEL_WEBSITE_URL}"
  BRIXEL_HELP_URL="${BRIXEL_HELP_URL}"
  BRIXEL_PRODUCT_URL="${BRIXEL_PRODUCT_URL}")
