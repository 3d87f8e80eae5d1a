/* A library that cannot load without its dependency. */
int dep_value(void);
int nd_value(void) { return dep_value(); }
