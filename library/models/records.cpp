#include "library/models/records.h"

namespace lib {

GcnstRecord GCNST;
ZredRecord ZRED;
EoslimRecord EOSLIM;

WcffeqRecord WCFFEQ;
Wcffq2Record WCFFQ2;
WntfeqRecord WNTFEQ;
WlffeqRecord WLFFEQ;
FeqsavRecord FEQSAV;
Feqsv2Record FEQSV2;
Feqsv3Record FEQSV3;
CrtsavRecord CRTSAV;
TermsRecord TERMS;
WlmcppRecord WLMCPP;
WrdcppRecord WRDCPP;
WntcppRecord WNTCPP;
WcpcppRecord WCPCPP;
CppsavRecord CPPSAV;
Wlmph0Record WLMPH0;
Wntph0Record WNTPH0;
Wcfph0Record WCFPH0;
Ph0savRecord PH0SAV;

AncLimRecord WLMPS, WLMPL, WLMDL, WLMDV, WLMMELT, WLMSUBL;
AncRedRecord WRDPS, WRDPL, WRDDL, WRDDV, WRDMELT, WRDSUBL;
AncCountRecord WNTPS, WNTPL, WNTDL, WNTDV, WNTMELT, WNTSUBL;
TermCoefRecord<kAncTerms> WCFPS, WCFPL, WCFDL, WCFDV;
TermCoefRecord<kSolidTerms> WCFMELT, WCFSUBL;
MeltSegmentRecord WSGMELT;

CfecsRecord CFECS;
IcfecsRecord ICFECS;

}  // namespace lib
