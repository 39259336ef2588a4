// The class library's standard message texts, shared by every unit of the
// layer that raises them.
#pragma once

// Conversions and Format
inline constexpr const char* SInvalidInteger =
    "'%s' is not a valid integer value";
inline constexpr const char* SInvalidFloat =
    "'%s' is not a valid floating point value";
inline constexpr const char* SInvalidCurrency =
    "'%s' is not a valid currency value";
inline constexpr const char* SInvalidDate = "'%s' is not a valid date";
inline constexpr const char* SInvalidTime = "'%s' is not a valid time";
inline constexpr const char* SInvalidDateTime =
    "'%s' is not a valid date and time";
inline constexpr const char* SInvalidBoolean =
    "'%s' is not a valid boolean value";
inline constexpr const char* SInvalidGUID = "'%s' is not a valid GUID value";
inline constexpr const char* SInvalidFormat =
    "Format '%s' invalid or incompatible with argument";
inline constexpr const char* SArgumentMissing = "No argument for format '%s'";
inline constexpr const char* SDateEncodeError =
    "Invalid argument to date encode";
inline constexpr const char* STimeEncodeError =
    "Invalid argument to time encode";
inline constexpr const char* SDefaultTrueBoolStr = "True";
inline constexpr const char* SDefaultFalseBoolStr = "False";

// Runtime errors
inline constexpr const char* SOperationAborted = "Operation aborted";
inline constexpr const char* SAssertionFailed = "Assertion failed";
inline constexpr const char* SAssertError = "%s (%s, line %d)";
inline constexpr const char* SAbstractError = "Abstract Error";
inline constexpr const char* SInvalidCast = "Invalid class typecast";
inline constexpr const char* SInvalidPointer = "Invalid pointer operation";
inline constexpr const char* SOutOfMemory = "Out of memory";
inline constexpr const char* SDivByZero = "Division by zero";
inline constexpr const char* SRangeError = "Range check error";
inline constexpr const char* SIntOverflow = "Integer overflow";
inline constexpr const char* SInvalidOp = "Invalid floating point operation";
inline constexpr const char* SZeroDivide = "Floating point division by zero";
inline constexpr const char* SOverflow = "Floating point overflow";
inline constexpr const char* SUnderflow = "Floating point underflow";
inline constexpr const char* SAccessViolation =
    "Access violation at address %p. %s of address %p";
inline constexpr const char* SOSError = "System Error.  Code: %d.\r\n%s";
inline constexpr const char* SUnkOSError = "A call to an OS function failed";
inline constexpr const char* SInvalidFileName = "Invalid file name - %s";
inline constexpr const char* SCannotCreateDir = "Unable to create directory";
inline constexpr const char* SFileNotFound = "File not found";

// Lists, strings and components
inline constexpr const char* SListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SListCapacityError =
    "List capacity out of bounds (%d)";
inline constexpr const char* SListCountError = "List count out of bounds (%d)";
inline constexpr const char* SDuplicateString =
    "String list does not allow duplicates";
inline constexpr const char* SSortedListError =
    "Operation not allowed on sorted string list";
inline constexpr const char* SDuplicateItem =
    "List does not allow duplicates ($0%x)";
inline constexpr const char* SDuplicateName =
    "A component named %s already exists";
inline constexpr const char* SInvalidName =
    "'%s' is not a valid component name";
inline constexpr const char* SDuplicateClass =
    "A class named %s already exists";
inline constexpr const char* SClassNotFound = "Class %s not found";
inline constexpr const char* SBitsIndexError = "Bits index out of range";
inline constexpr const char* SPropertyOutOfRange = "%s property out of range";

// Streams and filing
inline constexpr const char* SResNotFound = "Resource %s not found";
inline constexpr const char* SFCreateError = "Cannot create file %s";
inline constexpr const char* SFOpenError = "Cannot open file %s";
inline constexpr const char* SReadError = "Stream read error";
inline constexpr const char* SWriteError = "Stream write error";
inline constexpr const char* SMemoryStreamError =
    "Out of memory while expanding memory stream";
inline constexpr const char* SCantWriteResourceStreamError =
    "Can't write to a read-only resource stream";
inline constexpr const char* SInvalidImage = "Invalid stream format";
inline constexpr const char* SInvalidProperty = "Invalid property value";
inline constexpr const char* SInvalidPropertyValue = "Invalid property value";
inline constexpr const char* SInvalidPropertyPath = "Invalid property path";
inline constexpr const char* SInvalidPropertyType = "Invalid property type: %s";
inline constexpr const char* SUnknownProperty = "Property %s does not exist";
inline constexpr const char* SReadOnlyProperty = "Property is read-only";
inline constexpr const char* SPropertyException = "Error reading %s%s%s: %s";
inline constexpr const char* SAncestorNotFound = "Ancestor for '%s' not found";
inline constexpr const char* SInvalidBinary = "Invalid binary value";
inline constexpr const char* SInvalidString = "Invalid string constant";
inline constexpr const char* SIdentifierExpected = "Identifier expected";
inline constexpr const char* SStringExpected = "String expected";
inline constexpr const char* SNumberExpected = "Number expected";
inline constexpr const char* SCharExpected = "'%s' expected";
inline constexpr const char* SSymbolExpected = "%s expected";
inline constexpr const char* SParseError = "%s on line %d";

// Variants
inline constexpr const char* SInvalidVarCast =
    "Invalid variant type conversion";
inline constexpr const char* SInvalidVarOp = "Invalid variant operation";
inline constexpr const char* SVarBadType = "Invalid variant type";
inline constexpr const char* SVarInvalid = "Invalid argument";
inline constexpr const char* SVarTypeCouldNotConvert =
    "Could not convert variant of type (%s) into type (%s)";
inline constexpr const char* SVarTypeConvertOverflow =
    "Overflow while converting variant of type (%s) into type (%s)";
inline constexpr const char* SVarTypeRangeCheck1 =
    "Range check error for variant of type (%s)";
inline constexpr const char* SVarArrayBounds =
    "Variant or safe array index out of bounds";
inline constexpr const char* SVarArrayCreate =
    "Error creating variant or safe array";
inline constexpr const char* SVarNotArray = "Variant is not an array";
inline constexpr const char* SVarArrayLocked =
    "Variant or safe array is locked";
inline constexpr const char* SVarNotImplemented = "Operation not supported";
inline constexpr const char* SVarUnexpected = "Unexpected variant error";

// Registry and ini files
inline constexpr const char* SRegCreateFailed = "Failed to create key %s";
inline constexpr const char* SRegSetDataFailed = "Failed to set data for '%s'";
inline constexpr const char* SRegGetDataFailed = "Failed to get data for '%s'";
inline constexpr const char* SInvalidRegType = "Invalid data type for '%s'";
inline constexpr const char* SIniFileWriteError = "Unable to write to %s";
inline constexpr const char* SIniFileEntryError =
    "Cannot write the entry \"%s\" of section \"%s\" to %s: it would not "
    "read back";

// Shortcut key names
inline constexpr const char* SmkcBkSp = "BkSp";
inline constexpr const char* SmkcTab = "Tab";
inline constexpr const char* SmkcEsc = "Esc";
inline constexpr const char* SmkcEnter = "Enter";
inline constexpr const char* SmkcSpace = "Space";
inline constexpr const char* SmkcPgUp = "PgUp";
inline constexpr const char* SmkcPgDn = "PgDn";
inline constexpr const char* SmkcEnd = "End";
inline constexpr const char* SmkcHome = "Home";
inline constexpr const char* SmkcLeft = "Left";
inline constexpr const char* SmkcUp = "Up";
inline constexpr const char* SmkcRight = "Right";
inline constexpr const char* SmkcDown = "Down";
inline constexpr const char* SmkcIns = "Ins";
inline constexpr const char* SmkcDel = "Del";
inline constexpr const char* SmkcShift = "Shift+";
inline constexpr const char* SmkcCtrl = "Ctrl+";
inline constexpr const char* SmkcAlt = "Alt+";

// Controls
inline constexpr const char* SScrollBarRange =
    "Scrollbar property out of range";
