'use strict';
// How a client's calls reach the module: at most `maxInFlight` at once (each
// holds a thread of Node's shared pool for as long as its library call
// lasts), the rest queued in order; each call bounded by its caller's
// AbortSignal and timeout; and a close that refuses new calls and waits for
// the rest. A call that is aborted or times out rejects at once with the
// signal's reason. Queued, it leaves the queue at once; running, it stays
// counted in `inFlight` until its library call returns (that thread is still
// held) and its answer, when it comes, is dropped.
const { coded } = require('./errors');

// The refusal of a call to a client that was closed.
const clientClosed = () => coded(Error, 'ERR_CIFS_CLIENT_CLOSED', 'the client is closed: it takes no new calls');
const timedOut = () => new DOMException('The operation was aborted due to timeout', 'TimeoutError');
// A signal's reason, read where a throwing getter cannot escape into an event listener.
function reasonOf(signal) {
  try {
    return signal.reason;
  } catch (error) {
    return error;
  }
}
const closedReason = () => new DOMException('The client was closed', 'AbortError');

// One call: `start` sends it and gives the module's promise.
class Call {
  constructor(gate, start, resolve, reject) {
    Object.assign(this, { gate, start, resolve, reject, signal: undefined, timer: undefined, settled: false, queued: false });
  }

  // Settles the caller's promise once; later outcomes are dropped.
  settle(fulfil, value) {
    if (this.settled) return;
    this.settled = true;
    if (this.timer !== undefined) clearTimeout(this.timer);
    if (this.signal !== undefined) this.gate.unwatch(this.signal, this);
    (fulfil ? this.resolve : this.reject)(value);
  }

  abort(reason) {
    if (this.queued) this.gate.dequeue(this);
    this.settle(false, reason);
  }
}

class Gate {
  #max;
  #running = new Set();
  #queue = [];  // calls in order; an aborted one is dropped from the count at once and from the array when reached
  #head = 0;
  #waiting = 0;
  #closing = null;
  #drained = null;
  // One 'abort' listener per signal, however many calls share it (a signal
  // a server hands every call would otherwise collect a listener per call).
  #watched = new WeakMap();

  constructor(maxInFlight) {
    this.#max = maxInFlight;
  }

  get inFlight() { return this.#running.size; }

  get queued() { return this.#waiting; }

  get closed() { return this.#closing !== null; }

  // The promise of one call: `start()` runs when a slot is free and gives
  // the module's promise (or throws); `signal` (an AbortSignal) and
  // `timeout` (ms, 0 for none) bound it from now. Never throws.
  run(start, { signal, timeout = 0 } = {}) {
    if (this.#closing !== null) {
      return Promise.reject(clientClosed());
    }
    try {
      if (signal !== undefined && signal.aborted) return Promise.reject(reasonOf(signal));
    } catch (error) {
      return Promise.reject(error);
    }
    return new Promise((resolve, reject) => {
      const call = new Call(this, start, resolve, reject);
      if (signal !== undefined) this.watch(signal, call);
      if (timeout > 0) {
        call.timer = setTimeout(() => call.abort(timedOut()), timeout);
        call.timer.unref();  // a pending library call keeps the process alive, not its bound
      }
      if (this.#running.size < this.#max) this.#begin(call);
      else this.#enqueue(call);
    });
  }

  watch(signal, call) {
    call.signal = signal;
    let calls = this.#watched.get(signal);
    if (calls === undefined) {
      calls = new Set();
      const onAbort = () => { for (const each of [...calls]) each.abort(reasonOf(signal)); };
      calls.onAbort = onAbort;
      this.#watched.set(signal, calls);
      signal.addEventListener('abort', onAbort, { once: true });
    }
    calls.add(call);
  }

  unwatch(signal, call) {
    const calls = this.#watched.get(signal);
    if (calls === undefined || !calls.delete(call) || calls.size > 0) return;
    signal.removeEventListener('abort', calls.onAbort);
    this.#watched.delete(signal);
  }

  #enqueue(call) {
    call.queued = true;
    this.#queue.push(call);
    this.#waiting += 1;
  }

  dequeue(call) {
    call.queued = false;
    this.#waiting -= 1;
    this.#settleDrain();
  }

  #begin(call) {
    this.#running.add(call);
    let answer;
    try {
      answer = Promise.resolve(call.start());
    } catch (error) {
      answer = Promise.reject(error);
    }
    answer.then((value) => call.settle(true, value), (error) => call.settle(false, error)).finally(() => {
      this.#running.delete(call);
      this.#next();
      this.#settleDrain();
    });
  }

  // The first call still queued takes the free slot.
  #next() {
    while (this.#head < this.#queue.length && this.#running.size < this.#max) {
      const call = this.#queue[this.#head];
      this.#queue[this.#head] = undefined;
      this.#head += 1;
      if (!call.queued) continue;  // aborted while it waited
      call.queued = false;
      this.#waiting -= 1;
      this.#begin(call);
    }
    if (this.#head > 1024 && this.#head * 2 > this.#queue.length) {
      this.#queue = this.#queue.slice(this.#head);
      this.#head = 0;
    }
  }

  // Refuses new calls from now; with `abort`, rejects every queued and
  // running call at once (a running one still holds its thread until its
  // library call returns). Resolves when no call is queued or running.
  close({ abort = false } = {}) {
    this.#closing ??= new Promise((resolve) => { this.#drained = resolve; });
    if (abort) {
      const reason = closedReason();
      for (let i = this.#head; i < this.#queue.length; i += 1) if (this.#queue[i]?.queued) this.#queue[i].abort(reason);
      for (const call of this.#running) call.settle(false, reason);
    }
    this.#settleDrain();
    return this.#closing;
  }

  #settleDrain() {
    if (this.#drained !== null && this.#running.size === 0 && this.#waiting === 0) this.#drained();
  }
}

module.exports = { Gate, clientClosed, timedOut, reasonOf };
