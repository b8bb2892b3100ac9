#include "tavrix.h"

int main(int argc, char** argv) { return tavrix_main(argc, argv); }
