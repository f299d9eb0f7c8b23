#include "library/models/hmxrecords.h"

namespace lib {

MixmodRecord MIXMOD;
CfihmxRecord CFIHMX;
CfxhmxRecord CFXHMX;
Cf2hmxRecord CF2HMX;
CrtmodRecord CRTMOD;
CfxcrtRecord CFXCRT;
PrmodRecord PRMOD;
CfxprRecord CFXPR;
MxinfoRecord MXINFO;
Mxinf1Record MXINF1;
int MXRULE = 0;
int HMXFLG = 0;
HmxsavRecord HMXSAV;
MxtrmsRecord MXTRMS;
PhidrRecord PHIDR;

}  // namespace lib
