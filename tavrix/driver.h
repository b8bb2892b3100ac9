// The run driver: what happens after the options, and the whole program.
#pragma once

// What happens after the options; returns the exit status.
int rundriver(int argc, char** argv, int first);
// The whole program.
int tavrix_main(int argc, char** argv);

// Every process-wide table and setting back to its start (tests, fuzzing).
void tavrix_reset();
