// The shared conversion road is compiled with the command line, which every
// build of the program has.
#include "app/Conversion.cpp"
