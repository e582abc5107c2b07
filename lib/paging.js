'use strict';
// Following a listing to its end, shared by the client's iterators and
// cifs-admin --all. The module passes paging through to the library as
// given, so the end of a listing is the library's to signal; these rules
// read every signal it can give and never loop on one it repeats.
const { CifsError } = require('./errors');

// A returnCount that examines every connection the library lists.
const EVERY_RECORD = 0xffffffff;

// The pages of an open files or invalid users listing: `first` is the
// request of the first page (ignoreCount 0, returnCount the page size);
// each later page sends the cookie of the one before it. Iteration ends
// after a page whose cookie is empty, whose list (`page[items]`) is empty,
// or whose cookie is the one just sent (a library that hands a cookie back
// unchanged would otherwise be asked for the same page for ever). A failure
// answer throws a CifsError; a success without the page (the module could
// not read the library's result, which it logs) throws an Error, since
// ending quietly would pass a cut listing off as a whole one.
async function* pages(send, first, key, items) {
  let sent;
  for (;;) {
    const answer = await send(sent === undefined ? first : { ...first, cookie: sent });
    const page = pageOf(answer, key);
    yield page;
    const list = page[items];
    if (!page.cookie || page.cookie === sent || !Array.isArray(list) || list.length === 0) return;
    sent = page.cookie;
  }
}

// answer[key] of a success; throws for a failure or a missing result.
function pageOf(answer, key) {
  if (answer.status !== 'success') throw new CifsError(answer);
  if (answer[key] === undefined || answer[key] === null) {
    throw Object.assign(new Error(`${answer.operation}: the answer is a success without '${key}': the module could ` +
      'not read what the library handed back (its log says why)'), { code: 'ERR_CIFS_NO_RESULT', answer });
  }
  return answer[key];
}

module.exports = { pages, pageOf, EVERY_RECORD };
