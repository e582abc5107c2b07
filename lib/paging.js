'use strict';
// Following a listing to its end, shared by the client's iterators and
// cifs-admin --all. The module passes paging through to the library as
// given, so the end of a listing is the library's to signal; these rules
// read every signal it can give, and a listing ends or fails: it never spins
// on cookies it has sent before, and never passes a cut page off as a whole.
const { CifsError, pagingError } = require('./errors');
const { MAX_TEXT_BYTES } = require('./operations');

// A returnCount that examines every connection the library lists.
const EVERY_RECORD = 0xffffffff;

// The pages of an open files or invalid users listing: `send(cookie)` asks
// for the page after the one that handed out `cookie` (undefined: the first
// page). Iteration ends after a page whose cookie is empty, whose list
// (`page[items]`) is empty, or whose cookie is the one just sent (a library
// may hand it back unchanged to say there is no more). Any earlier cookie
// coming back would send the listing round in circles for ever: that ends
// it with an ERR_CIFS_PAGING error, as does a page holding fewer records than
// its count (after its records are yielded), or a cookie longer than the
// module sends back, which would reach the library cut. A failure answer
// throws a CifsError; a success without the page (the module could not read
// the library's result, which it logs) throws an Error, since ending quietly
// would pass a cut listing off as a whole one. A library that hands out a
// new cookie for ever looks like a long listing: only the caller's bound
// (a signal or timeout) ends that.
async function* pages(send, key, items) {
  const sentFor = new Map();  // each cookie sent, with the number of the page that handed it out
  let sent;
  for (let number = 1; ; number += 1) {
    const answer = await send(sent);
    const page = pageOf(answer, key);
    const list = page[items];
    yield page;
    if (isCut(page, items)) {
      throw pagingError(`${answer.operation}: page ${number} holds ${list.length} of the ${page.count} records its count ` +
        'gives: the library handed out a cut page', { operation: answer.operation, page: number, count: page.count, held: list.length });
    }
    if (!page.cookie || page.cookie === sent || !Array.isArray(list) || list.length === 0) return;
    if (sentFor.has(page.cookie)) {
      throw pagingError(`${answer.operation}: page ${number} hands back the cookie ${JSON.stringify(page.cookie)}, which ` +
        `page ${sentFor.get(page.cookie)} handed out and which was sent for page ${sentFor.get(page.cookie) + 1}: the ` +
        'library is going round in circles', { operation: answer.operation, page: number, cookie: page.cookie });
    }
    if (Buffer.byteLength(page.cookie) > MAX_TEXT_BYTES.cookie) {
      throw pagingError(`${answer.operation}: page ${number} hands out a cookie of ${Buffer.byteLength(page.cookie)} bytes, ` +
        `more than the ${MAX_TEXT_BYTES.cookie} the module sends back`, { operation: answer.operation, page: number, cookie: page.cookie });
    }
    sentFor.set(page.cookie, number);
    sent = page.cookie;
  }
}

// Whether a page holds fewer records than its count gives.
const isCut = (page, items) => Array.isArray(page[items]) && typeof page.count === 'number' && page[items].length < page.count;

// answer[key] of a success; throws for a failure or a missing result.
function pageOf(answer, key) {
  if (answer.status !== 'success') throw new CifsError(answer);
  if (answer[key] === undefined || answer[key] === null) {
    throw Object.assign(new Error(`${answer.operation}: the answer is a success without '${key}': the module could ` +
      'not read what the library handed back (its log says why)'), { code: 'ERR_CIFS_NO_RESULT', answer });
  }
  return answer[key];
}

module.exports = { pages, pageOf, isCut, EVERY_RECORD };
