// Making a problem set: 100 rows of base and compared quantities, one hidden per row.
#pragma once

#include "drill/drill_state.h"
#include "drill/random.h"

// The field (1..6, ProblemRow order) that kinds 1..8 hide for a draw r in 0..11, or 0 when
// the kind hides nothing (kinds 9 and 10, or a kind outside 1..10).
int HiddenFieldFor(int kind, std::uint32_t r);

// Fills the table with a fresh set of the kind, drawing from rng (it does not seed it).
void MakeProblemTable(ProblemTableData &table, int kind, RandomGenerator &rng);

// What making a set does to the drill-wide state: seeds the generator from the clock unless
// a worksheet print has just seeded it, refills ProblemTable for ProblemKind and puts the drill
// back at problem 1 with no score. The window empties its boxes and prompts for Start.
void MakeProblemsState();
