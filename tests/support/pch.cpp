// Only here to carry the test suites' precompiled headers.
