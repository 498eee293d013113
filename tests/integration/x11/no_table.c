/* A shared object that exports something, but not the resource table: the
   saver must count it as a missing companion library. */
__attribute__((visibility("default"))) const int chronovale_not_a_table = 1;
