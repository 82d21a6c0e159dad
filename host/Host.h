// Every host class and record the system uses.
//
// The host's conventions, which the system follows where it talks to the host:
// every operation that can fail answers a HostStatus (host/HostTypes.h), 0 for
// success; records are fixed blocks of bytes read through their views at the
// named offsets, with the values of their codes named beside the offsets
// (host/Records.h, host/SaveTaxInfo.h). Host classes throw nothing.
#pragma once

#include "host/ByteRecord.h"
#include "host/FindInfo.h"
#include "host/HostTypes.h"
#include "host/LedgerCommon.h"
#include "host/LedgerCore.h"
#include "host/LedgerFiles.h"
#include "host/LedgerLink.h"
#include "host/LedgerMsg.h"
#include "host/LedgerRules.h"
#include "host/Records.h"
#include "host/SaveTaxInfo.h"
#include "host/TaxReportRecords.h"
