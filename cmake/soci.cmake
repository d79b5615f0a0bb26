# SOCI, the database access of the pager register, with its SQLite and PostgreSQL backends.
# Debian's libsoci-dev ships neither a CMake package nor a pkg-config file, so its libraries
# are looked up one by one. Its headers, as Debian builds them, use Boost and include the
# headers of SQLite and libpq.
find_path(CCP_SOCI_INCLUDE_DIR soci/soci.h REQUIRED)
find_library(CCP_SOCI_CORE soci_core REQUIRED)
find_library(CCP_SOCI_SQLITE3 soci_sqlite3 REQUIRED)
find_library(CCP_SOCI_POSTGRESQL soci_postgresql REQUIRED)
find_package(Boost REQUIRED)
find_package(SQLite3 REQUIRED)
find_package(PostgreSQL REQUIRED)

add_library(ccp_soci INTERFACE)
target_include_directories(ccp_soci SYSTEM INTERFACE ${CCP_SOCI_INCLUDE_DIR})
target_link_libraries(ccp_soci INTERFACE ${CCP_SOCI_SQLITE3} ${CCP_SOCI_POSTGRESQL} ${CCP_SOCI_CORE}
                                         Boost::headers SQLite::SQLite3 PostgreSQL::PostgreSQL)

# UBSan's vptr check needs the type information of SOCI's classes, which its libraries keep to
# themselves: the files that include SOCI's headers go without that one check.
function(ccp_soci_sources)
  if(CCP_SANITIZE OR CCP_FUZZ)
    set_source_files_properties(${ARGN} PROPERTIES COMPILE_OPTIONS -fno-sanitize=vptr)
  endif()
endfunction()
