/* A shared library that exports none of the ODBC entry names. */
int tv_empty_odbc_marker(void) { return 42; }
