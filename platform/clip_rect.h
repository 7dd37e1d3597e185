#pragma once

#include <algorithm>

// Clips a copy of w x h pixels from (sx, sy) in a source of sw x sh to (dx, dy) in a target of
// dw x dh, moving both corners together. Returns false when nothing is left to copy. The sums
// are taken in 64 bits, so corners far outside either surface cannot overflow.
inline bool ClipCopy(int &dx, int &dy, int &w, int &h, int &sx, int &sy, int dw, int dh, int sw,
                     int sh)
{
    auto clipAxis = [](int &d, int &s, int &len, int dLimit, int sLimit) {
        long long dd = d, ss = s, ll = len;
        if (dd < 0) {
            ss -= dd;
            ll += dd;
            dd = 0;
        }
        if (ss < 0) {
            dd -= ss;
            ll += ss;
            ss = 0;
        }
        ll = std::min({ll, (long long)dLimit - dd, (long long)sLimit - ss});
        if (ll <= 0)
            return false;
        d = int(dd);
        s = int(ss);
        len = int(ll);
        return true;
    };
    return clipAxis(dx, sx, w, dw, sw) && clipAxis(dy, sy, h, dh, sh);
}
