/* The Wrenbridge functions, declared for a database.

   Every argument is passed by reference, as the library expects. Text arrives as CSTRING with
   the NULL keyword, so that an SQL NULL reaches the library as a null pointer (it counts as
   empty text); INTEGER and DOUBLE PRECISION carry NULL as well, so that a NULL number makes the
   function return -1 and send nothing rather than report a made-up 0.

   Text sizes (the server passes at most that many bytes and refuses longer values):
   - 32765, the largest a CSTRING argument can be, for messages and values: these are the
     texts worth logging whole;
   - 256 for names: value names, method names, the two sides of a write message and the
     category (a packet shows 40 characters of it, but the library keeps it whole);
   - 1024 for the destination, which may name a file or a host;
   - 64 for colour names: the longest identifier has 25 characters, and a longer text is no
     colour either way.
   The texts are CHARACTER SET NONE: the library takes the bytes as they are, and a database
   whose default character set is UTF8 would otherwise count four bytes for every character
   and refuse these sizes.

   The functions return 0 (1 or 0 for WLENABLED), or -1 when the library raised an error.
   WLSENDSTRING2 returns nothing of its own; its declaration adds a dummy INTEGER that the
   server returns instead. */

DECLARE EXTERNAL FUNCTION wlSendMsg
  CSTRING(32765) CHARACTER SET NONE NULL
  RETURNS INTEGER BY VALUE
  ENTRY_POINT 'wlSendMsg' MODULE_NAME 'Wrenbridge';

DECLARE EXTERNAL FUNCTION wlEnterMethod
  CSTRING(256) CHARACTER SET NONE NULL
  RETURNS INTEGER BY VALUE
  ENTRY_POINT 'wlEnterMethod' MODULE_NAME 'Wrenbridge';

DECLARE EXTERNAL FUNCTION wlExitMethod
  CSTRING(256) CHARACTER SET NONE NULL
  RETURNS INTEGER BY VALUE
  ENTRY_POINT 'wlExitMethod' MODULE_NAME 'Wrenbridge';

DECLARE EXTERNAL FUNCTION wlCategory
  CSTRING(256) CHARACTER SET NONE NULL
  RETURNS INTEGER BY VALUE
  ENTRY_POINT 'wlCategory' MODULE_NAME 'Wrenbridge';

DECLARE EXTERNAL FUNCTION wlCategoryColor
  CSTRING(64) CHARACTER SET NONE NULL
  RETURNS INTEGER BY VALUE
  ENTRY_POINT 'wlCategoryColor' MODULE_NAME 'Wrenbridge';

DECLARE EXTERNAL FUNCTION wlSendString
  CSTRING(256) CHARACTER SET NONE NULL,
  CSTRING(32765) CHARACTER SET NONE NULL
  RETURNS INTEGER BY VALUE
  ENTRY_POINT 'wlSendString' MODULE_NAME 'Wrenbridge';

DECLARE EXTERNAL FUNCTION wlAddSeparator
  RETURNS INTEGER BY VALUE
  ENTRY_POINT 'wlAddSeparator' MODULE_NAME 'Wrenbridge';

DECLARE EXTERNAL FUNCTION wlAddCheckpoint
  RETURNS INTEGER BY VALUE
  ENTRY_POINT 'wlAddCheckpoint' MODULE_NAME 'Wrenbridge';

DECLARE EXTERNAL FUNCTION wlClear
  RETURNS INTEGER BY VALUE
  ENTRY_POINT 'wlClear' MODULE_NAME 'Wrenbridge';

DECLARE EXTERNAL FUNCTION wlEnable
  RETURNS INTEGER BY VALUE
  ENTRY_POINT 'wlEnable' MODULE_NAME 'Wrenbridge';

DECLARE EXTERNAL FUNCTION wlDisable
  RETURNS INTEGER BY VALUE
  ENTRY_POINT 'wlDisable' MODULE_NAME 'Wrenbridge';

DECLARE EXTERNAL FUNCTION wlEnabled
  RETURNS INTEGER BY VALUE
  ENTRY_POINT 'wlEnabled' MODULE_NAME 'Wrenbridge';

DECLARE EXTERNAL FUNCTION wlDestinationDetails
  CSTRING(1024) CHARACTER SET NONE NULL
  RETURNS INTEGER BY VALUE
  ENTRY_POINT 'wlDestinationDetails' MODULE_NAME 'Wrenbridge';

DECLARE EXTERNAL FUNCTION wlSendInteger
  CSTRING(256) CHARACTER SET NONE NULL,
  INTEGER NULL
  RETURNS INTEGER BY VALUE
  ENTRY_POINT 'wlSendInteger' MODULE_NAME 'Wrenbridge';

DECLARE EXTERNAL FUNCTION wlSendFloat
  CSTRING(256) CHARACTER SET NONE NULL,
  DOUBLE PRECISION NULL
  RETURNS INTEGER BY VALUE
  ENTRY_POINT 'wlSendFloat' MODULE_NAME 'Wrenbridge';

DECLARE EXTERNAL FUNCTION wlSendNote
  CSTRING(32765) CHARACTER SET NONE NULL
  RETURNS INTEGER BY VALUE
  ENTRY_POINT 'wlSendNote' MODULE_NAME 'Wrenbridge';

DECLARE EXTERNAL FUNCTION wlWriteInteger
  CSTRING(256) CHARACTER SET NONE NULL,
  CSTRING(256) CHARACTER SET NONE NULL,
  INTEGER NULL
  RETURNS INTEGER BY VALUE
  ENTRY_POINT 'wlWriteInteger' MODULE_NAME 'Wrenbridge';

DECLARE EXTERNAL FUNCTION wlWriteFloat
  CSTRING(256) CHARACTER SET NONE NULL,
  CSTRING(256) CHARACTER SET NONE NULL,
  DOUBLE PRECISION NULL
  RETURNS INTEGER BY VALUE
  ENTRY_POINT 'wlWriteFloat' MODULE_NAME 'Wrenbridge';

DECLARE EXTERNAL FUNCTION wlWriteString
  CSTRING(256) CHARACTER SET NONE NULL,
  CSTRING(256) CHARACTER SET NONE NULL,
  CSTRING(32765) CHARACTER SET NONE NULL
  RETURNS INTEGER BY VALUE
  ENTRY_POINT 'wlWriteString' MODULE_NAME 'Wrenbridge';

DECLARE EXTERNAL FUNCTION wlWriteMsg
  CSTRING(256) CHARACTER SET NONE NULL,
  CSTRING(256) CHARACTER SET NONE NULL
  RETURNS INTEGER BY VALUE
  ENTRY_POINT 'wlWriteMsg' MODULE_NAME 'Wrenbridge';

DECLARE EXTERNAL FUNCTION wlResetCheckpoint
  RETURNS INTEGER BY VALUE
  ENTRY_POINT 'wlResetCheckpoint' MODULE_NAME 'Wrenbridge';

DECLARE EXTERNAL FUNCTION wlSendMemoryStatus
  RETURNS INTEGER BY VALUE
  ENTRY_POINT 'wlSendMemoryStatus' MODULE_NAME 'Wrenbridge';

DECLARE EXTERNAL FUNCTION wlSendString2
  CSTRING(256) CHARACTER SET NONE NULL,
  CSTRING(32765) CHARACTER SET NONE NULL,
  INTEGER
  RETURNS PARAMETER 3
  ENTRY_POINT 'wlSendString2' MODULE_NAME 'Wrenbridge';

COMMIT;
