# Anthropic's and OpenAI's model prices come from the @pydantic/genai-prices package of the npm
# registry at a pinned version, checked by SHA-256 and cached in the build tree;
# scripts/make_price_table.js turns it into C++ tables (and the package's own prices of some
# usages, for a test). Without npm, node or the package the tables are empty and every cost is an
# estimate (Claude's at 2025's rates, Codex's at none); with TIDEWELL_REQUIRE_PRICES (the release
# preset) the configuration fails instead.

set(GENAI_PRICES_VERSION 0.1.8)
set(GENAI_PRICES_SHA256 8c9ba41e46719abc54a0ae4756ba5f2b5a768b8117fb29f40c5ca7ed3146eb5b)

set(prices_dir ${CMAKE_BINARY_DIR}/prices)
set(prices_tgz ${prices_dir}/pydantic-genai-prices-${GENAI_PRICES_VERSION}.tgz)
set(TIDEWELL_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
set(price_table ${TIDEWELL_GENERATED_DIR}/model_price_table.inc)
set(price_expectations ${TIDEWELL_GENERATED_DIR}/price_expectations.inc)
set(openai_price_table ${TIDEWELL_GENERATED_DIR}/openai_price_table.inc)
file(MAKE_DIRECTORY ${TIDEWELL_GENERATED_DIR})

include(TidewellNpmPackage)
tidewell_npm_package(@pydantic/genai-prices@${GENAI_PRICES_VERSION} ${prices_tgz}
                     ${GENAI_PRICES_SHA256} prices_problem)
set(have_prices FALSE)
if(NOT prices_problem)
    set(have_prices TRUE)
endif()

if(have_prices)
    file(ARCHIVE_EXTRACT INPUT ${prices_tgz} DESTINATION ${prices_dir}
         PATTERNS package/dist/index.cjs)
    find_program(NODE_EXECUTABLE NAMES node nodejs)
    if(NODE_EXECUTABLE)
        execute_process(
            COMMAND ${NODE_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/make_price_table.js
                    ${prices_dir}/package/dist/index.cjs ${GENAI_PRICES_VERSION} ${price_table}
                    ${price_expectations} ${openai_price_table}
            RESULT_VARIABLE node_result ERROR_VARIABLE node_error TIMEOUT 120)
        if(NOT node_result EQUAL 0)
            set(prices_problem "the price table could not be made (${node_result}): ${node_error}")
        endif()
    else()
        set(prices_problem "node is not installed")
    endif()
endif()

if(prices_problem)
    if(TIDEWELL_REQUIRE_PRICES)
        message(FATAL_ERROR "Tidewell prices its costs from the @pydantic/genai-prices list and "
                            "could not make its table: ${prices_problem}. Check that the npm "
                            "registry can be reached and node is installed.")
    endif()
    message(WARNING "Building without a model price list: ${prices_problem}")
    file(WRITE ${price_table}
         "inline constexpr char kPriceListName[] = \"none\";\n"
         "inline constexpr size_t kPriceModelCount = 0;\n"
         "inline constexpr const char* kPriceModelIds[] = {\"\"};\n"
         "inline constexpr PriceMatch kPriceMatches[] = {{0, PriceMatch::kEquals, \"\"}};\n"
         "inline constexpr PricePeriod kPricePeriods[] = {{0, 0, {}, 0, {}}};\n")
    file(WRITE ${openai_price_table}
         "inline constexpr size_t kOpenAiModelCount = 0;\n"
         "inline constexpr PriceMatch kOpenAiMatches[] = {{0, PriceMatch::kEquals, \"\"}};\n"
         "inline constexpr PricePeriod kOpenAiPeriods[] = {{0, 0, {}, 0, {}}};\n")
    file(WRITE ${price_expectations} "inline const PriceExpectation kPackagePrices[] = {{}};\n"
                                     "inline const PriceExpectation kOpenAiPackagePrices[] = {{}};\n")
endif()
# Generated again when the script changes.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/scripts/make_price_table.js)
