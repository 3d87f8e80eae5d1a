/* A library another test library needs; the tests keep it out of reach. */
int dep_value(void) { return 42; }
