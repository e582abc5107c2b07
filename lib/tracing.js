'use strict';
// Each client call on the ecosystem's tracing channel,
// diagnostics_channel.tracingChannel('cifs-native:request'): start and end
// around the call, asyncStart and asyncEnd when its promise settles, error
// when it rejects. The context holds `sphere` (the function's name),
// `operation` (the operation's name), `request` (the request object as
// sent, without a copy: a subscriber that reads it sees the DN and every
// text; undefined when the client refused the call) and, once answered, the
// answer's `status` and `errorCode`. Nothing is made when nobody listens.
const diagnostics = require('node:diagnostics_channel');

// tracingChannel came with Node 18.19; before it, nothing is published.
const CHANNEL = 'cifs-native:request';
const channel = typeof diagnostics.tracingChannel === 'function' ? diagnostics.tracingChannel(CHANNEL) : undefined;

const listened = () => channel !== undefined && (channel.start.hasSubscribers || channel.end.hasSubscribers ||
  channel.asyncStart.hasSubscribers || channel.asyncEnd.hasSubscribers || channel.error.hasSubscribers);

// The promise of `call(context)`, published as one call of `operation` with
// `request`; `call` gets undefined when nobody listens, and the context to
// fill in otherwise. It must return a promise, never throw.
function traced(sphere, operation, request, call) {
  if (!listened()) return call(undefined);
  const context = { sphere, operation, request, status: undefined, errorCode: undefined };
  return channel.tracePromise(call, context, undefined, context);
}

// The answer's status and errorCode into the context, when there is one.
function answered(context, answer) {
  if (context === undefined || answer === null || typeof answer !== 'object') return;
  context.status = answer.status;
  context.errorCode = answer.error?.errorCode;
}

module.exports = { traced, answered, CHANNEL };
