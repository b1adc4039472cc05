#pragma once

class Program;

// Gives the program the search procedure of every base and the resolver of
// every site.
void registerSites(Program &program);
