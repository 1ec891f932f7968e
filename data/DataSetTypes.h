#pragma once

// Enumerations of the data access components, with their documented values.

enum TDataSetState { dsInactive, dsBrowse };

enum TCursorLocation { clUseServer = 2, clUseClient = 3 };
enum TCursorType {
  ctUnspecified = -1,
  ctOpenForwardOnly = 0,
  ctKeyset = 1,
  ctDynamic = 2,
  ctStatic = 3
};
enum TADOLockType {
  ltUnspecified = -1,
  ltReadOnly = 1,
  ltPessimistic = 2,
  ltOptimistic = 3,
  ltBatchOptimistic = 4
};
enum TCommandType {
  cmdUnknown = 8,
  cmdText = 1,
  cmdTable = 2,
  cmdStoredProc = 4,
  cmdFile = 256,
  cmdTableDirect = 512
};
enum TConnectOption { coConnectUnspecified = -1, coAsyncConnect = 16 };

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

enum TFieldType {
  ftUnknown,
  ftString,
  ftSmallint,
  ftInteger,
  ftWord,
  ftBoolean,
  ftFloat,
  ftCurrency,
  ftBCD,
  ftDate,
  ftTime,
  ftDateTime,
  ftBytes,
  ftVarBytes,
  ftAutoInc,
  ftBlob,
  ftMemo,
  ftGraphic,
  ftFmtMemo,
  ftParadoxOle,
  ftDBaseOle,
  ftTypedBinary,
  ftCursor,
  ftFixedChar,
  ftWideString,
  ftLargeint,
  ftADT,
  ftArray,
  ftReference,
  ftDataSet,
  ftOraBlob,
  ftOraClob,
  ftVariant,
  ftInterface,
  ftIDispatch,
  ftGuid,
  ftTimeStamp,
  ftFMTBcd,
  ftFixedWideChar,
  ftWideMemo
};
