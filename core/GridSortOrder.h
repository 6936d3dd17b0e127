// The order in which the grid sort (SortGridByColumn) leaves the rows: ascending by key,
// ignoring case (AnsiCompareText). Rows with equal keys end in the order the program's
// long-standing exchange sort gave them (tables saved and compared by users depend on it),
// computed here in O(n log n) instead of by the exchange itself.
//
// How equal keys end: the exchange sort fixes one position per pass, swapping the position's
// row with every later row that sorts strictly before it. Seen from one group of equal keys,
// only the rows with smaller keys matter: each smaller row, taken in table order, moves the
// first group row standing before it (if any) to the last place among the group rows before
// it. So the group's final order is a queue: a group row met in table order joins at the back,
// each smaller row met turns the queue by one (front to back).
#pragma once

#include <vector>

#include "platform/rtl/System.h"


// Keys[i] is the key of row i; answers the rows in their sorted order (Order[k] = the row
// that ends at place k).
std::vector<int> GridSortOrder(const std::vector<String>& Keys);

