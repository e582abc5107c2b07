/* Statuses the simulated platform libraries answer with. Plain C so the
 * control addon and the native tests can share it with the libraries. */
#ifndef CIFS_SIM_STATUS_H
#define CIFS_SIM_STATUS_H

/* Management library (libcifsmgmtclient.so). Each failure has its own value so
 * a test can tell which check refused a call; injected failures may use any value. */
enum cifssim_status {
  CIFSSIM_OK = 0,
  CIFSSIM_NO_SUCH_SHARE = 2,    /* change, feature change or removal of an unknown share */
  CIFSSIM_NO_SUCH_CONTEXT = 3,  /* removal of a context that is not configured */
  CIFSSIM_OUT_OF_MEMORY = 12,   /* the library could not allocate a result */
  CIFSSIM_NULL_ARGUMENT = 14,   /* a required pointer argument was null */
  CIFSSIM_NAME_TAKEN = 16,      /* rename onto the name of another existing share */
  CIFSSIM_SHARE_EXISTS = 17,    /* create with the name of an existing share */
  CIFSSIM_CONTEXT_EXISTS = 18,  /* add of a context that is already configured */
  CIFSSIM_NO_SUCH_VOLUME = 19,  /* create or change naming a volume the server lacks */
  CIFSSIM_BAD_RECORD = 22,      /* share record malformed: offsets, NULs, lengths, change mask */
  CIFSSIM_EMPTY_CONTEXT = 23,   /* add of an empty context text */
  CIFSSIM_BAD_ARGUMENT = 24,    /* a control call got an unusable argument (never from CIFSLIB_) */
  CIFSSIM_NOT_IMPLEMENTED = 38, /* the call exists but the simulator does not model it yet */
  /* Open files calls. Listing or closing the open files of a name that is
   * neither a share nor a volume answers CIFSSIM_NO_SUCH_VOLUME; a close file
   * record or close-all share record built wrong, CIFSSIM_BAD_RECORD. */
  CIFSSIM_NO_SUCH_OPEN_FILE = 9, /* close of a full path no client holds open */
  CIFSSIM_SHM_FAILURE = 28,      /* the shared memory object could not be created or filled */
  CIFSSIM_BAD_REQUEST = 74,      /* list request page malformed: lengths, offsets, NULs, text bounds */
  CIFSSIM_BAD_FILTER = 95,       /* filter block: unknown match or filter type, a filterBy text that
                                    does not fit its type, a pattern over its limit */
  CIFSSIM_BAD_COOKIE = 116,      /* a cookie this library did not issue, or issued for another listing */
  /* Connection calls. */
  CIFSSIM_BAD_CONNECTION_NUMBER = 34, /* number text not 1 to 6 decimal digits without a leading zero */
  CIFSSIM_NO_SUCH_CONNECTION = 107,   /* a well-formed number that names no connection */
  /* Invalid and blocked user calls. */
  CIFSSIM_BAD_USER_NAME = 36,         /* an empty user name, or one over 255 bytes */
  CIFSSIM_NO_SUCH_USER = 61,          /* make blocked or remove a name the cache lacks */
  CIFSSIM_ALREADY_BLOCKED = 114       /* add or make blocked a user blocked already */
};

/* Identity library (libtoral.so.0). -9009 is the library's own "buffer too small". */
enum toralsim_status {
  TORALSIM_OK = 0,
  TORALSIM_BUFFER_TOO_SMALL = -9009,
  TORALSIM_BAD_ARGUMENT = -9101, /* a required pointer was null, or a name was not terminated */
  TORALSIM_UNKNOWN_SID = -9102,  /* the SID area was not written by torallib_get_userinfo_from_name */
  TORALSIM_OUT_OF_MEMORY = -9103, /* the SEV list of a SID lookup could not be allocated */
  TORALSIM_NO_SUCH_USER = -9104   /* the user info call of a DN the library does not know */
};

#endif
