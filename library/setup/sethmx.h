// Set-up of the multi-fluid mixture model (HMX) from the mixture-parameter
// text: every binary pair's mixing rule and parameters ("#BNC" section),
// the departure functions ("#MXM" sections), estimates for pairs the text
// lacks, and the reference alignment of ammonia + water.
#pragma once

#include <string>

#include "library/models/hmxrecords.h"

namespace lib {

// Sets up the mixture model for the current components from text hfmix.
// Errors: 1 (block data or a text of another model), 111 (text not found),
// 117 (a pair that cannot be estimated), 106/107 ("TR1" outside ammonia +
// water); warnings -117 (estimated pairs or missing terms).
void SETHMX(const std::string& hfmix, int& ierr, std::string& herr);

// Reads the record of pair (i, j) from text slot k into the pair records;
// n is the pair's running number.  Nonzero status: the pair was not set
// (1, -117 not found, -118 no mixing parameters, 118 read error).
void RDBNC(int k, int i, int j, int n, int& ierr, std::string& herr);

// Marks of the pairs whose departure function was found by RDMIX.
using PairFlags = PairTable<int>;

// Reads the "#MXM" models of text slot k: hmodij "ALL" every model, given
// to every pair i < j with that code; otherwise the model hmodij alone,
// given to pair (i, j).  lflag(i, j) = 1 marks a pair whose model was found.
// A model's counts line gives its ordinary and Gaussian-bell terms; a sixth
// integer 1 makes the bell terms Gaussian in tau as well (kBellInTau).
void RDMIX(int k, int i, int j, const Code& hmodij, PairFlags& lflag, int& ierr, std::string& herr);

// Estimated parameters of a pair absent from the text (warning -117, or
// error 117 where no estimate is possible or the estimate is out of range).
void ESTBNC(int i, int j, int n, int& ierr, std::string& herr);
// Linear critical lines ("TC1"/"VC1" with zero coefficients) for a pair.
void ESTTC(int i, int j, int& ierr, std::string& herr);
void ESTVC(int i, int j, int& ierr, std::string& herr);

// Ammonia + water: aligns water's gas constant and both default reference
// values with those of the mixture model, then sets the "DEF" reference
// state again.  Does nothing for any other fluid.
void AMH2OR();

}  // namespace lib
