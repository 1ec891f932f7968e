# The Debian package: "cpack -G DEB" in the build folder makes rowmill_<version>_<arch>.deb.
# It installs under /usr: /usr/bin/rowmill finds its guide in /usr/share/doc/rowmill just as
# build/app/rowmill finds build/share/doc/rowmill. dpkg-shlibdeps works out the libraries it needs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rowmill)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Rowmill developers")
set(CPACK_PACKAGE_CONTACT "The Rowmill developers <rowmill@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "run one SQL query and save its rows as a delimited text file")
# The long description as Debian shows it: lines of at most 80 characters.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Rowmill takes an ODBC connection string and one SQL statement, shows the rows\n"
  "of its result in a read-only grid and saves all of them to a delimited text\n"
  "file: tab, blank, comma or any text of your own.\n"
  "\n"
  "Any database that an installed ODBC driver reaches will serve; the SQLite,\n"
  "PostgreSQL and MariaDB drivers are recommended. Results of many millions of\n"
  "rows are read as the driver hands them over; past a share of the machine's\n"
  "memory their values go to a temporary file.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# xdg-utils opens the user guide from the banner.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libsqliteodbc, odbc-postgresql, odbc-mariadb, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# A umask of the build machine's must not reach the package's folders.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# cpack installs what is built and builds nothing more: scripts/package.sh builds only
# rowmill_package_contents, not the tests and benchmarks of "all".
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

include(CPack)
