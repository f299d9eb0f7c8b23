// Saturation points of a mixture remembered within one flash: the flashes
// at given T or P (and with h, s, D or q) ask for the same dew and bubble
// points of their feed many times over, from the states they try along an
// isotherm or isobar, and a point that does not exist (the bubble point of
// a wet gas far above its critical point) costs 10-50 ms each time it is
// sought.  While a FlashMemo lives, SATT of a mixture at the same
// temperature, composition and switches, and quick bubble points at the
// same temperature or pressure and composition, are answered from the
// first answer, found or not.
#pragma once

#include <string>

namespace lib::mix {

// Opens the memory for one flash; nested scopes share it, and the last to
// close forgets it.
class FlashMemo {
public:
    FlashMemo();
    ~FlashMemo();
    FlashMemo(const FlashMemo&) = delete;
    FlashMemo& operator=(const FlashMemo&) = delete;
};

// One saturation point (T, P, the densities and the phases) with its
// error.
struct SatAnswer {
    double T = 0.0, P = 0.0, Dl = 0.0, Dv = 0.0;
    double xl[20] = {}, xv[20] = {};
    int ierr = 0;
    std::string herr;
    // Takes the point (T, P, the densities and the phases).
    void set(double t, double p, double dl, double dv, const double l[20], const double v[20]) {
        T = t;
        P = p;
        Dl = dl;
        Dv = dv;
        for (int i = 0; i < 20; ++i) {
            xl[i] = l[i];
            xv[i] = v[i];
        }
    }
    // Gives the densities, the phases and the error back (the caller takes
    // whichever of T and P it did not fix).
    void give(double& dl, double& dv, double l[20], double v[20], int& err,
              std::string& text) const;
};

// What a saturation point is looked up by: the question (`kind`, with the
// switches that change the road to it), the fixed variable and the feed.
struct SatQuestion {
    int kind = 0;
    double fixed = 0.0;
    const double* z = nullptr;
};

// Whether a flash's memory is open (a saturation point asked for by a
// flash, not by the caller of the library).
bool flash_under_way();

// The answer kept for the question, when a memory is open and holds one.
bool recall(const SatQuestion& q, SatAnswer& a);
// Keeps an answer while a memory is open.
void keep(const SatQuestion& q, const SatAnswer& a);

// Question kinds: SATT of a mixture (kph and the two status switches in
// it) and the bubble points by Newton's method alone.
int satt_kind(int kph);
// SATP's failures of a mixture (kph and the status switches).
int satp_failure_kind(int kph);
constexpr int kQuickBubbleAtT = 1000;
constexpr int kQuickBubbleAtP = 1001;

}  // namespace lib::mix
