export {
  createClient, CifsError, errorCategory, CATEGORIES, Client, ClientOptions, CallOptions, SharesClient, ConnectionsClient, ContextsClient,
  ListingOptions, Settled, ShareChanges, ClientConnectionFilters, ErrorCategory,
} from '../index';
