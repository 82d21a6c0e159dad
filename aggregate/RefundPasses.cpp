#include "aggregate/RefundPasses.h"

// Seams for the refund-statement passes: they are not built yet, and say so
// rather than leave the refund rows silently at zero.

int32_t SumCorporateRefund(ProgressDialog&, TaxAggregate&, const StDATAINFO&, const TaxSettings&) {
  return kRefundPassNotBuilt;
}

int32_t SumIndividualRefund(ProgressDialog&, TaxAggregate&, const StDATAINFO&, const TaxSettings&) {
  return kRefundPassNotBuilt;
}
