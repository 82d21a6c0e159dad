// Every host class and record the system uses.
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
